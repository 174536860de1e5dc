// The world drawn below full size, stretched over the window, with the blurred glow added where it falls: one
// full-window pass where a stretch and a separate additive overlay would be two.
#version 150

in vec2 fragTexCoord;

uniform sampler2D colorTexture;  // the smaller picture
uniform sampler2D glowTexture;
uniform int glow;

out vec4 stretchColor;

void main() {
    vec3 colour = texture(colorTexture, fragTexCoord).rgb;
    if (glow == 1) colour += texture(glowTexture, fragTexCoord).rgb;
    stretchColor = vec4(colour, 1.0);
}
