// The texts and the HUD over a stretched picture, with the blurred glow added to their own pixels, as the
// full-size frame adds it over everything it has drawn; where they leave a texel out, the stretch has added it.
#version 150

in vec2 fragTexCoord;

uniform sampler2D colorTexture;
uniform sampler2D glowTexture;
uniform vec2 windowSize;
uniform int font;

out vec4 hudColor;

void main() {
    vec4 texel = texture(colorTexture, fragTexCoord);
    vec3 colour;
    if (font == 1) {
        if (texel.a < 0.2) discard;
        colour = texel.rgb * texel.a;
    } else {
        if (texel.a < 0.5) discard;
        colour = texel.rgb;
    }
    hudColor = vec4(colour + texture(glowTexture, gl_FragCoord.xy / windowSize).rgb, 1.0);
}
