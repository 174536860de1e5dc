// Depth from the light only: the shadow map has no colour buffer, so nothing is computed per fragment and the
// software rasteriser can skip the fragment stage.
#version 150

void main() {
}
