// Depth-only program of the shadow pass, drawn from the light's point of view. The position is computed
// exactly as the scene program computes it, so the depth map holds the same values to the last bit.
#version 150

in vec4 vertex;

uniform mat4 model;
uniform mat4 perspective;
uniform mat4 view;

void main() {
    vec4 world = model * vertex;
    gl_Position = perspective * view * world;
}
