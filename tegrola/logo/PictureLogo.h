// Picture logos: a picture turned into a one-bit logo of one of the print heights.
//
// The picture is scaled to 50 rows (its width in proportion, the fraction dropped), placed on a
// white logo whose width is that scaled width rounded up to a multiple of 8, and cut to the logo
// height: a logo of 25 or 17 rows keeps the top 25 or 17 rows of the 50-row picture. Pictures of
// more than one bit a pixel are scaled by taking one source pixel for each logo pixel (no
// blending); for one-bit pictures a logo pixel is black when any source pixel that falls onto it
// is black. Each pixel becomes the nearer of black and white (IsNearerWhite).
#pragma once

#include "logo/LogoBitmap.h"
#include "logo/Picture.h"

#include <cstdint>
#include <string>

// The height every picture is scaled to, whatever the logo height.
constexpr int kPictureScaleRows = 50;

// The largest pictures and logos converted: beyond these the memory and the file a logo needs
// are no longer reasonable for the printer's fifty slots.
constexpr int64_t kMaxPicturePixels = int64_t(64) * 1024 * 1024;
constexpr int64_t kMaxLogoWidth = int64_t(1) << 20;

// The width of a picture of this size once scaled to 50 rows: (width * 50) div height.
int64_t ScaledPictureWidth(int width, int height);

// Why a picture of this size cannot be made into a logo, in plain English ("the picture is too
// large ..."); empty when it can.
std::string PictureSizeProblem(int width, int height);

// The logo of logoHeight rows (1 to 50) made from the picture; the null logo when the picture's
// size has a PictureSizeProblem or the height is out of range.
LogoBitmap ConvertPictureLogo(const Picture &picture, int logoHeight);
