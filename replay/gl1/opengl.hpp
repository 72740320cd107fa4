// OpenGL 1.1 declarations for the draw list's replay, without pulling in the Windows header
// that the MinGW GL headers would otherwise include for their calling-convention macros.
#pragma once

#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#endif

#include <GL/gl.h>
