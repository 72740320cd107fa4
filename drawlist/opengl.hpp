// OpenGL 1.1 and GLU declarations for the portable core, without pulling in the Windows header
// that the MinGW GL headers would otherwise include for their calling-convention macros.
#pragma once

#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#define CALLBACK __stdcall
#endif

#include <GL/gl.h>
#include <GL/glu.h>
