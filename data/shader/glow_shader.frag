// One direction of the separable nine-tap glow blur; the offsets say which direction.
#version 150

in vec2 fragTexCoord;

uniform sampler2D colorTexture;
uniform int vert;
uniform float kernel[9];
uniform vec2 offset[9];

out vec4 outColor;

void main() {
    vec3 sum = vec3(0.0);
    for (int i = 0; i < 9; ++i) {
        sum += kernel[i] * texture(colorTexture, fragTexCoord + offset[i]).rgb;
    }
    // The second pass runs on an image the first already spread; a slight lift keeps the halo visible.
    float gain = vert == 1 ? 1.6 : 1.0;
    outColor = vec4(sum * gain, 1.0);
}
