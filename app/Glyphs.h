// Toolbar glyphs, the tree's image list and the program icon, all drawn here.
//
// Protocol: call after the QApplication exists (QPixmap needs it). Glyph
// images come back opaque, painted over their key colour; KeyedIcon turns the
// key colour (the bottom-left pixel) transparent and lets the style grey the
// disabled state.
#pragma once

#include <QIcon>
#include <QImage>
#include <array>

// Opaque glyph images at their designed sizes, key colour as background.
QImage GoGlyph();       // 16 x 16, red flag, key white
QImage PercentGlyph();  // 18 x 18, black "%", key white
QImage ValueGlyph();    // 18 x 18, black "MB", key white
QImage BySizeGlyph();   // 20 x 20, "9" over "1" and a blue arrow, key silver
QImage ByNameGlyph();   // 20 x 20, "A" over "Z" and a blue arrow, key silver
QImage VersionGlyph();  // 16 x 16, dark blue "i" on a light blue disc, key yellow
QImage OkGlyph();       // 16 x 16, green check mark, key white
// 32 x 28: a yellow folder with a pie rising from it, key cyan.
QImage AboutPicture();

// The image with every pixel of its bottom-left colour made transparent.
QImage KeyedImage(const QImage& glyph);
QIcon KeyedIcon(const QImage& glyph);

// Tree images, 16 x 16 with transparency: 0 folder, 1 scanned root, 2 FILES.
std::array<QImage, 3> TreeImages();

// The program icon: a blue folder behind a magnifying glass, 16/24/32/48 px.
QIcon ProgramIcon();
