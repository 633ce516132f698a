-- A game written in Lua alone, run by `vla run examples/script_quads`: a spinning quad, squares
-- that bounce off the screen's edges, a line of text that follows the mouse, a click sound on
-- the left button, F12 for a screenshot and Escape to quit.
-- Set VLA_EXAMPLE_FRAMES to end after that many frames (the smoke test does).

local KEY_ESCAPE, KEY_F12 = 1, 88
local frameLimit = tonumber(os.getenv("VLA_EXAMPLE_FRAMES") or "")
local frames, angle = 0, 0
local squares = {}
for i = 1, 6 do
    squares[i] = {x = 60 * i, y = 40 * i, dx = 90 + 25 * i, dy = 70 + 15 * i,
                  r = i / 6, g = 1 - i / 6, b = 0.5}
end
-- Loaded with every other resource before the first frame; named by its strID.
local font = "FNT_FONT1"
local click = VLAUTIL_DemandSound("SND_CLICK")

local function drawQuad(x, y, w, h, r, g, b, a)
    VLA_GFX_VQuadSetPos(x, y, w, h)
    VLA_GFX_VQuadSetColor(r, g, b, a)
    VLA_GFX_SceneRender()
end

function OnFrame()
    frames = frames + 1
    local dt = VLA_SYS_TimerGetDelta()
    angle = (angle + 90 * dt) % 360

    for _, s in ipairs(squares) do
        s.x, s.y = s.x + s.dx * dt, s.y + s.dy * dt
        if s.x < 0 or s.x > 760 then s.dx = -s.dx end
        if s.y < 0 or s.y > 560 then s.dy = -s.dy end
    end
    if VLA_INP_MouseIsKeyClicked(1) then
        VLA_SFX_SoundPlay(click, false, -1, -1, -101)
    end

    VLA_GFX_SceneBegin()
    VLA_GFX_SceneClearScreen(0.05, 0.07, 0.15)
    VLA_GFX_TechApply("TEQ_QUAD")
    VLA_GFX_TexSetNoTexture()
    VLA_GFX_VQuadSetPos(300, 200, 200, 200)
    VLA_GFX_VQuadRotate(400, 300, angle)
    VLA_GFX_VQuadSetColorByVertex(0, 1, 0.2, 0.2, 1)
    VLA_GFX_VQuadSetColorByVertex(1, 0.2, 1, 0.2, 1)
    VLA_GFX_VQuadSetColorByVertex(2, 0.2, 0.2, 1, 1)
    VLA_GFX_VQuadSetColorByVertex(3, 1, 1, 0.2, 1)
    VLA_GFX_SceneRender()
    for _, s in ipairs(squares) do
        drawQuad(s.x, s.y, 40, 40, s.r, s.g, s.b, 0.8)
    end
    local mx, my = VLA_INP_MouseGetCursorPos()
    VLA_GFX_FontSet(font)
    VLA_GFX_FontDrawText("Velora2D from Lua", mx, my, 0, 0, 1)
    VLA_GFX_FontDrawText("FPS " .. VLA_SYS_TimerGetFPS(), 10, 10, 0, 5, 1)
    VLA_GFX_SceneEnd()
    VLA_GFX_ScenePresent()

    if VLA_INP_KeyboardIsKeyClicked(KEY_F12) then
        VLA_GFX_SceneMakeScreenshot()
    end
    if frameLimit and frames >= frameLimit then
        VLA_LOG_AddEntry("Example ended after " .. frames .. " frames.")
        return false
    end
    return not VLA_INP_KeyboardIsKeyPressed(KEY_ESCAPE)
end
