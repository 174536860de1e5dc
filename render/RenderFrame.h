// The three-pass frame: shadow map from the light, glow image blurred in two passes, the lit and shadowed
// final pass, and the glow added on top.
#pragma once

// The glow framebuffer with its depth renderbuffer, then the shadow framebuffer with its depth texture;
// prints "error" and the status when the shadow framebuffer is incomplete.
void createRenderTargets();
// Frees the smaller target the picture is drawn into below 100 % render scale.
void releaseSceneTarget();
// The full-screen quad in HUD pixel coordinates, sized to the window at this moment.
void createScreenQuad();
// Everything a frame draws, leaving the picture in the back buffer, where tests and the benchmark read it.
void drawFrame();
