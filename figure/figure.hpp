// Drawing the figure: a column of wings read from the history ring, in immediate-mode OpenGL.
#pragma once

struct Color {
    float red, green, blue;
};

// Hue in turns, lightness and saturation in 0..1.
Color hlsToRgb(float h, float l, float s);
// One colour channel; hue in degrees.
float hlsChannel(float low, float high, float hue);
// The wing square in the current colour; filled or as four separate line segments.
void drawSquare(bool filled, unsigned windowCount);
// The whole figure; with windowCount 2 or more every call is also recorded into the draw list.
void drawFigure(unsigned windowCount);
