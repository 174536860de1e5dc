// Screen-space quads: glow overlay, text and HUD pictures, in pixels around the window centre.
#version 150

in vec4 vertex;
in vec2 texCoord;

uniform mat4 view;

out vec2 fragTexCoord;

void main() {
    fragTexCoord = texCoord;
    gl_Position = view * vertex;
}
