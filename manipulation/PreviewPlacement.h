#pragma once
// Where the crop and rotate dialogs show their frame: at natural size in a
// scroll box, or (stretched or fitted) filling the panel under it.
class QFrame;
class QScrollArea;
class QWidget;
class TPMultiImage;

// The sunken panel (8, 8, 417 x 257) with the scroll box filling it and the
// image inside at natural size, scrolling, with the band allowed.
void MakePreview(QWidget* client, QFrame*& panel, QScrollArea*& box, TPMultiImage*& image);

// Moves the image onto the panel when it is stretched or fitted, else back
// into the scroll box with AutoSize on; then resets its view.
void PlacePreview(TPMultiImage* image, QScrollArea* box, QFrame* panel);
