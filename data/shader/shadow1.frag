// Writes depth only; the colour output exists so that the program links with a bound output.
#version 150

out vec4 shadowColor;

void main() {
    shadowColor = vec4(gl_FragCoord.z);
}
