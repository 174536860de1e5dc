// Pictures are shown as they are, transparent texels left out; with font = 1 the image is a glyph page
// whose alpha is the glyph coverage.
#version 150

in vec2 fragTexCoord;

uniform sampler2D colorTexture;
uniform int font;

out vec4 hudColor;

void main() {
    vec4 texel = texture(colorTexture, fragTexCoord);
    if (font == 1) {
        if (texel.a < 0.2) discard;
        hudColor = vec4(texel.rgb * texel.a, 1.0);
    } else {
        if (texel.a < 0.5) discard;
        hudColor = vec4(texel.rgb, 1.0);
    }
}
