/* An instrumented stb_image for the TGA fuzzer; the game itself links the system's shared library. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
