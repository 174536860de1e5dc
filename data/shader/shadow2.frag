// Lit and shadowed surface: Blinn-Phong from the material and light colours, with the light's depth map
// compared through a shadow sampler; the map's linear filter makes each lookup a 2 x 2 percentage-closer test.
#version 150

in vec2 fragTexCoord;
in vec3 fragNormal;
in vec3 fragToLight;
in vec3 fragToEye;
in vec4 fragShadowCoord;

uniform sampler2D colorTexture;
uniform sampler2DShadow shadow_map;
uniform vec4 diffuse_mat;
uniform vec4 specular_mat;
uniform vec4 ambient_mat;
uniform float spec_power;
uniform vec4 diffuse_color;
uniform vec4 specular_color;
uniform vec4 ambient_color;

out vec4 shadow2Color;

float lightVisibility() {
    // Behind the light or outside its view there is no depth to compare with: count it as lit.
    if (fragShadowCoord.w <= 0.0) return 1.0;
    vec3 c = fragShadowCoord.xyz / fragShadowCoord.w;
    if (c.x <= 0.0 || c.x >= 1.0 || c.y <= 0.0 || c.y >= 1.0 || c.z >= 1.0) return 1.0;
    // One filtered lookup compares the four nearest depth texels and blends the results, which softens
    // the edge by a texel; four offset lookups would cost the software renderer four times the fetches for a
    // barely softer edge.
    return texture(shadow_map, c);
}

void main() {
    vec4 surface = texture(colorTexture, fragTexCoord);
    vec3 n = normalize(fragNormal);
    vec3 l = normalize(fragToLight);
    vec3 e = normalize(fragToEye);
    float diffuseTerm = max(dot(n, l), 0.0);
    float specularTerm = 0.0;
    if (diffuseTerm > 0.0) specularTerm = pow(max(dot(n, normalize(l + e)), 0.0), max(spec_power, 1.0));
    // A surface turned away from the light gets neither diffuse nor specular light, so its shadow does not matter.
    float visibility = diffuseTerm > 0.0 ? lightVisibility() : 0.0;

    vec3 ambient = ambient_color.rgb * ambient_mat.rgb;
    vec3 diffuse = diffuse_color.rgb * diffuse_mat.rgb * diffuseTerm * visibility;
    vec3 specular = specular_color.rgb * specular_mat.rgb * specularTerm * visibility;
    shadow2Color = vec4(surface.rgb * (ambient + diffuse) + specular, 1.0);
}
