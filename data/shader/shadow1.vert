// Depth-only program from the light's point of view; built with the others, kept for experiments.
#version 150

in vec4 vertex;

uniform mat4 model;
uniform mat4 perspective;
uniform mat4 view;

void main() {
    gl_Position = perspective * view * model * vertex;
}
