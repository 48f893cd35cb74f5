#pragma once
// The warning pictures of task priorities: the 16 × 16 images of the warning
// image list, drawn by the program, and the 22 × 19 bitmap a task line stores
// for its priority. Qt Gui only, so the timesheet can show the same pictures.

#include <QByteArray>
#include <QImage>

namespace PriorityImage {

/// Side of a warning image in pixels.
inline constexpr int WarningImageSize = 16;
/// Size of the stored priority bitmap in pixels.
inline constexpr int BitmapWidth = 22;
inline constexpr int BitmapHeight = 19;

/// Images of the warning list used for priorities.
inline constexpr int EmptyImage = 0;
inline constexpr int AmberWarningImage = 6;
inline constexpr int RedWarningImage = 7;

/// Image `index` of the warning list (16 × 16, ARGB): 6 an amber warning
/// triangle with an exclamation mark, 7 a red one; every other index (0
/// included) is empty, all pixels zero.
QImage WarningImage(int index);

/// The warning image shown for a priority: 1 → 6, 2 → 7, anything else → 0.
int ImageIndexOfPriority(int priority);

/// The priority's picture as stored in a task line: a 22 × 19 bitmap in BMP
/// file format with a white background and the priority's warning image at
/// its top left corner (so priority 0 is plain white).
QByteArray PriorityBitmap(int priority);

} // namespace PriorityImage
