// The player's camera: global view, tilt and projection matrices moved by one camera step per frame.
#pragma once

// Start view: above one corner of the board, looking down 30 degrees, 60-degree field of view.
void initCamera();
