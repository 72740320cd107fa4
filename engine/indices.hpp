// The actuator indices the engine creates and the figure is drawn from: the vocabulary shared by
// scripts, the engine, the frame driver and the renderer.
#pragma once

namespace lumenweave::engine {

constexpr int outlineIndex = 18;
constexpr int zoomIndex = 31;
constexpr int twistIndex = 38;
constexpr int paceIndex = 45;
constexpr int wingCountIndex = 52;
constexpr int wheelIndex = 73;
constexpr int spinIndex = 80;
constexpr int flipIndex = 87;
constexpr int armIndex = 94;
constexpr int wristIndex = 101;
constexpr int sizeIndex = 108;
constexpr int hueIndex = 123;
constexpr int hueRateIndex = 127;
constexpr int lightnessIndex = 130;

struct ActuatorName {
    int index;
    const char* name;  // as the script reference names it
};

// Every actuator, in index order: the slots the bank fills, the numbers the checker lists and
// the tools print.
constexpr ActuatorName actuatorNames[] = {
    {outlineIndex, "outline"},  {zoomIndex, "zoom"},           {twistIndex, "twist"},
    {paceIndex, "pace"},        {wingCountIndex, "wings"},     {wheelIndex, "wheel"},
    {spinIndex, "spin"},        {flipIndex, "flip"},           {armIndex, "arm"},
    {wristIndex, "wrist"},      {sizeIndex, "size"},           {hueIndex, "hue"},
    {hueRateIndex, "hue rate"}, {lightnessIndex, "lightness"},
};

}  // namespace lumenweave::engine
