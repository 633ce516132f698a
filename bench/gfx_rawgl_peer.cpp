// Peer for the quads benchmark: the same moving, rotated, coloured 8 x 8 textured quads streamed
// by a minimal raw OpenGL 3.3 program in one draw call per frame, straight to the window. It
// shows the most this machine's GL can do, to compare the engine's device with.
//
//   gfx_rawgl_peer [--quads N] [--frames F] [--batch B]
//
// --batch B splits the frame into draws of B quads from the same buffer (0: one draw).
#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
struct Vertex
{
    float x, y, u, v;
    uint32_t color;
};
struct Sprite
{
    float x, y, vx, vy, angle, spin;
    uint32_t color;
};

const char* kVS = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 1) in vec2 aUV;
layout(location = 2) in vec4 aColor;
out vec2 vUV;
out vec4 vColor;
void main()
{
    vUV = aUV;
    vColor = aColor;
    gl_Position = vec4(aPos.x / 400.0 - 1.0, 1.0 - aPos.y / 300.0, 0.0, 1.0);
}
)";
const char* kFS = R"(#version 330 core
in vec2 vUV;
in vec4 vColor;
uniform sampler2D uTex;
out vec4 oColor;
void main() { oColor = texture(uTex, vUV) * vColor; }
)";

GLuint Shader(GLenum type, const char* src)
{
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    return s;
}
} // namespace

int main(int argc, char** argv)
{
    int quads = 10000, frames = 100, batch = 0;
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (std::strcmp(argv[i], "--quads") == 0)
            quads = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--frames") == 0)
            frames = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--batch") == 0)
            batch = std::atoi(argv[++i]);
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* win = SDL_CreateWindow("raw GL quads", 100, 100, 800, 600, SDL_WINDOW_OPENGL);
    SDL_GLContext ctx = win ? SDL_GL_CreateContext(win) : nullptr;
    if (ctx == nullptr)
        return 1;
    SDL_GL_SetSwapInterval(0);

    GLuint prog = glCreateProgram();
    glAttachShader(prog, Shader(GL_VERTEX_SHADER, kVS));
    glAttachShader(prog, Shader(GL_FRAGMENT_SHADER, kFS));
    glLinkProgram(prog);
    glUseProgram(prog);

    uint32_t texels[64];
    for (int i = 0; i < 64; ++i)
        texels[i] = 0x80FFC0FFu ^ uint32_t(i * 0x010203);
    GLuint tex;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 8, 8, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    GLuint vao, vbo, ibo;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glGenBuffers(1, &ibo);
    std::vector<uint32_t> idx(size_t(quads) * 6);
    for (int k = 0; k < quads; ++k)
    {
        const uint32_t b = uint32_t(4 * k);
        const uint32_t q[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
        std::memcpy(&idx[size_t(k) * 6], q, sizeof(q));
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(idx.size() * 4), idx.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)8);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), (void*)16);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    std::srand(12345);
    auto rnd = [](float lo, float hi) { return lo + (hi - lo) * float(std::rand()) / RAND_MAX; };
    std::vector<Sprite> sprites;
    for (int i = 0; i < quads; ++i)
        sprites.push_back({rnd(0, 792), rnd(0, 592), rnd(-120, 120), rnd(-120, 120), rnd(0, 360),
                           rnd(-180, 180), 0xFF000000u | uint32_t(std::rand() & 0xFFFFFF)});
    std::vector<Vertex> verts(size_t(quads) * 4);
    auto frame = [&]
    {
        const float dt = 0.016f;
        for (int i = 0; i < quads; ++i)
        {
            Sprite& s = sprites[size_t(i)];
            s.x += s.vx * dt;
            s.y += s.vy * dt;
            if (s.x < 0 || s.x > 792)
                s.vx = -s.vx;
            if (s.y < 0 || s.y > 592)
                s.vy = -s.vy;
            s.angle += s.spin * dt;
            const float a = s.angle * 0.017453292f, c = std::cos(a), sn = std::sin(a);
            const float cx = s.x + 4, cy = s.y + 4;
            const float px[4] = {-4, 4, 4, -4}, py[4] = {-4, -4, 4, 4};
            const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
            for (int k = 0; k < 4; ++k)
                verts[size_t(i) * 4 + k] = {cx + c * px[k] - sn * py[k],
                                            cy + c * py[k] + sn * px[k], us[k], vs[k], s.color};
        }
        glClearColor(0.06f, 0.09f, 0.12f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(verts.size() * sizeof(Vertex)), verts.data(),
                     GL_STREAM_DRAW);
        if (batch <= 0)
            glDrawElements(GL_TRIANGLES, GLsizei(idx.size()), GL_UNSIGNED_INT, nullptr);
        else
            for (int q = 0; q < quads; q += batch)
                glDrawElements(GL_TRIANGLES, GLsizei(std::min(batch, quads - q) * 6),
                               GL_UNSIGNED_INT, (void*)(size_t(q) * 6 * 4));
        SDL_GL_SwapWindow(win);
        SDL_PumpEvents();
    };
    frame(); // warm-up
    glFinish();
    const auto t0 = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f)
        frame();
    glFinish();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("device=rawgl batch=%d quads=%d frames=%d seconds=%.3f quads_per_s=%.0f\n", batch,
                quads, frames, s, double(quads) * frames / s);
    SDL_GL_DeleteContext(ctx);
    SDL_DestroyWindow(win);
    SDL_Quit();
    return 0;
}
