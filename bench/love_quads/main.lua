-- Peer for the quads benchmark: N moving, rotated, coloured 8 x 8 images per frame for a fixed
-- number of frames, then the throughput on standard output. Arguments: quads, frames.
-- The stock main loop sleeps 1 ms per frame; this one does not, so the peer is not slowed down.

local quads, frames = 10000, 30

function love.run()
    local args = love.arg.parseGameArguments(arg)
    quads = tonumber(args[1]) or quads
    frames = tonumber(args[2]) or frames

    local data = love.image.newImageData(8, 8)
    for y = 0, 7 do
        for x = 0, 7 do
            data:setPixel(x, y, 1, 0.6 + x * 0.05, 1 - y * 0.05, 0.8)
        end
    end
    local image = love.graphics.newImage(data)
    image:setFilter("nearest", "nearest")
    love.math.setRandomSeed(12345)
    local rnd = function(lo, hi) return lo + (hi - lo) * love.math.random() end
    local s = {}
    for i = 1, quads do
        s[i] = {x = rnd(0, 792), y = rnd(0, 592), vx = rnd(-120, 120), vy = rnd(-120, 120),
                a = rnd(0, 6.28), spin = rnd(-3.14, 3.14), r = rnd(0.4, 1), g = rnd(0.4, 1),
                b = rnd(0.4, 1)}
    end

    local function frame()
        love.event.pump()
        for _ in love.event.poll() do end
        local dt = 0.016
        love.graphics.clear(0.06, 0.09, 0.12)
        for i = 1, quads do
            local p = s[i]
            p.x = p.x + p.vx * dt
            p.y = p.y + p.vy * dt
            if p.x < 0 or p.x > 792 then p.vx = -p.vx end
            if p.y < 0 or p.y > 592 then p.vy = -p.vy end
            p.a = p.a + p.spin * dt
            love.graphics.setColor(p.r, p.g, p.b, 1)
            love.graphics.draw(image, p.x + 4, p.y + 4, p.a, 1, 1, 4, 4)
        end
        love.graphics.present()
    end

    return function()
        frame() -- warm-up
        local t0 = love.timer.getTime()
        for _ = 1, frames do frame() end
        local t = love.timer.getTime() - t0
        io.write(string.format("device=love quads=%d frames=%d seconds=%.3f quads_per_s=%.0f\n",
                               quads, frames, t, quads * frames / t))
        io.flush()
        return 0
    end
end
