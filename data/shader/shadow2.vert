// Scene program of the final pass: lighting in view space and the surface's position in shadow-map space.
#version 150

in vec4 vertex;
in vec3 normal;
in vec4 color;
in vec2 texCoord;

uniform mat4 model;
uniform mat4 perspective;
uniform mat4 view;
uniform mat4 tex_mat;
uniform vec3 light_position;

out vec2 fragTexCoord;
out vec3 fragNormal;
out vec3 fragToLight;
out vec3 fragToEye;
out vec4 fragShadowCoord;

void main() {
    vec4 world = model * vertex;
    vec4 eyeSpace = view * world;
    fragTexCoord = texCoord;
    fragNormal = mat3(view) * mat3(model) * normal;
    fragToLight = (view * vec4(light_position, 1.0)).xyz - eyeSpace.xyz;
    fragToEye = -eyeSpace.xyz;
    fragShadowCoord = tex_mat * world;
    gl_Position = perspective * eyeSpace;
}
