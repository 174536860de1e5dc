// One direction of the glow blur below full render scale: the nine weights of the full-size blur, with each
// pair of neighbouring taps on a side taken by one filtered lookup between them, placed where the pair's
// weights balance. Five lookups stand for nine and give the same picture to within a step of the colour.
#version 150

in vec2 fragTexCoord;

uniform sampler2D colorTexture;
uniform vec2 texel;  // one texel of the glow image along the blur's direction
uniform float gain;

out vec4 outColor;

void main() {
    vec2 inner = 1.4444 * texel;  // taps 1 and 2: (0.15 x 1 + 0.12 x 2) / 0.27
    vec2 outer = 3.3571 * texel;  // taps 3 and 4: (0.09 x 3 + 0.05 x 4) / 0.14
    vec3 sum = 0.16 * texture(colorTexture, fragTexCoord).rgb +
               0.27 * (texture(colorTexture, fragTexCoord + inner).rgb + texture(colorTexture, fragTexCoord - inner).rgb) +
               0.14 * (texture(colorTexture, fragTexCoord + outer).rgb + texture(colorTexture, fragTexCoord - outer).rgb);
    outColor = vec4(sum * gain, 1.0);
}
