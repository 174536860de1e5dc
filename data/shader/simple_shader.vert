// Scene program of the shadow-depth and glow passes: positions the surface and hands on its texture coordinate.
#version 150

in vec4 vertex;
in vec3 normal;
in vec4 color;
in vec2 texCoord;

uniform mat4 model;
uniform mat4 perspective;
uniform mat4 view;
uniform vec3 light_position;
uniform vec4 cam_position;

out vec2 fragTexCoord;
out vec3 fragNormal;
out vec3 fragToLight;
out vec3 fragToEye;

void main() {
    vec4 world = model * vertex;
    fragTexCoord = texCoord;
    fragNormal = mat3(model) * normal;
    fragToLight = light_position - world.xyz;
    fragToEye = cam_position.xyz - world.xyz;
    gl_Position = perspective * view * world;
}
