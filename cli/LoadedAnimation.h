#pragma once
// A GIF file loaded the way the viewer loads it (the program's animation
// model over the codec binding), and composed the way the viewer shows it.
#include "imaging/animated/PVAnimationModel.h"
#include "imaging/animated/PVCompositor.h"

#include <string>

class LoadedAnimation {
  public:
    LoadedAnimation();

    // False when the file cannot be read; ErrorText() then holds the
    // codec's text (or the model's, for a file that is not there).
    bool Load(const std::string& file);
    const std::string& ErrorText() const { return FError; }

    PVAnimationModel& Model() { return FModel; }
    // Frames to show: the records of an animation, or 1 for a lone picture
    // (a GIF of one image without loop block, which the codec delivers as a
    // still and the model keeps as its current picture only).
    int FrameCount();
    // The logical screen once frames 0..index are shown; false for an
    // index out of range or a picture that could not be drawn.
    bool Compose(int index, PVWebImg::PVCompositor& compositor);

  private:
    PVAnimationModel FModel;
    std::string FError;
};
