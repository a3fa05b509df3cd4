#pragma once

namespace velscript {

class frmVelScrTester;

// Positions and sizes of the layout are in twips; 15 twips are one logical pixel.
inline constexpr int TwipsPerPixel = 15;
constexpr int pixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// Creates every control of the window at its place, in its container, with its caption, focus
// order and handler, and fills the window's control members.
void buildForm(frmVelScrTester& form);

} // namespace velscript
