// Stands in for <GL/glext.h> in the core's layers, which draw only into the draw list.
#error "the core records into the draw list and calls no graphics library: OpenGL belongs to drawlist/replay.cpp and the hosts"
