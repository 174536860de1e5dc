// The player's camera: global view, tilt and projection matrices moved by one camera step per frame.
#pragma once

#include <glm/glm.hpp>

// The camera's matrices: the projection, the view and the tilt that the camera keys turn, and the HUD's
// projection in window pixels. The camera step writes them; every pass, picking and the overlay read them.
struct CameraMatrices {
  glm::mat4 projectionMatrix = glm::mat4(1.0f);
  glm::mat4 viewMatrix = glm::mat4(1.0f);
  glm::mat4 tiltMatrix = glm::mat4(1.0f);
  glm::mat4 hudProjection = glm::mat4(1.0f);
};

extern CameraMatrices camera;

// Start view: above one corner of the board, looking down 30 degrees, 60-degree field of view.
void initCamera();

// One frame of camera control: wheel zoom, arrow keys and screen-edge scrolling, Page Up/Down, and turning
// with the right mouse button or, in spectator mode, by the cursor's offset from the window centre.
// Reads mouseX/mouseY as sampled at the start of the frame update; call it before anything else moves
// the view in that frame, so the eye height it tests is the frame's starting height.
void updateCamera(double dt);

// Keeps the field of view and makes the projection's aspect ratio the window's, without reading any input.
void fitProjectionToWindow();
