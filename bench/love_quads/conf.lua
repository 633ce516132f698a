-- Peer for the quads benchmark: LÖVE drawing the same 8 x 8 images in an 800 x 600 window.
function love.conf(t)
    t.window.width = 800
    t.window.height = 600
    t.window.vsync = 0
    t.window.title = "LOVE quads"
    t.modules.audio = false
    t.modules.sound = false
    t.modules.joystick = false
    t.modules.physics = false
end
