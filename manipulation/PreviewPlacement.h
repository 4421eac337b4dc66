#pragma once
// Where the crop and rotate dialogs show their frame: at natural size in a
// scroll box, or (stretched or fitted) filling the panel under it.
class QFrame;
class QScrollArea;
class TPMultiImage;

// Moves the image onto the panel when it is stretched or fitted, else back
// into the scroll box with AutoSize on; then resets its view.
void PlacePreview(TPMultiImage* image, QScrollArea* box, QFrame* panel);
