// Glow look of a surface: its glow image shown as it is (black does not glow), plus a faint specular
// glint so that lit edges sparkle a little in the bloom.
#version 150

in vec2 fragTexCoord;
in vec3 fragNormal;
in vec3 fragToLight;
in vec3 fragToEye;

uniform sampler2D colorTexture;
uniform vec4 diffuse_mat;
uniform vec4 specular_mat;
uniform vec4 ambient_mat;     // declared for the shared material interface; an emissive look ignores it
uniform float spec_power;
uniform vec4 diffuse_color;   // likewise
uniform vec4 specular_color;
uniform vec4 ambient_color;

out vec4 fragColor;

void main() {
    vec3 glow = texture(colorTexture, fragTexCoord).rgb * diffuse_mat.rgb;
    vec3 n = normalize(fragNormal);
    vec3 h = normalize(normalize(fragToLight) + normalize(fragToEye));
    float glint = pow(max(dot(n, h), 0.0), max(spec_power, 1.0) * 4.0);
    vec3 sparkle = 0.15 * glint * specular_mat.rgb * specular_color.rgb * length(glow);
    fragColor = vec4(glow + sparkle, 1.0);
}
