#include "cli/LoadedAnimation.h"

#include "bindings/ErrorInvalid.h"

LoadedAnimation::LoadedAnimation() {
    // Without a handler the model throws; with one the codec's text is kept
    // and the frames delivered before a failure stay in the list.
    FModel.OnPvlibError = [this](PVAnimationModel*, int16_t, const std::string& text, const char*) {
        FError = text.empty() ? "The codec failed without saying why." : text;
    };
}

bool LoadedAnimation::Load(const std::string& file) {
    FError.clear();
    try {
        FModel.LoadFromFile(file);
    } catch (const ErrorInvalid& e) {
        FError = e.what();
    }
    if (!FError.empty()) return false;
    // The codec refuses a file without images; this only keeps the
    // compositor from being handed nothing.
    if (FModel.Frames()->empty() && !FModel.CurrentDib()->Dib()) {
        FError = "The file holds no image.";
        return false;
    }
    return true;
}

int LoadedAnimation::FrameCount() {
    const int records = int(FModel.Frames()->size());
    return records > 0 ? records : (FModel.CurrentDib()->Dib() ? 1 : 0);
}

bool LoadedAnimation::Compose(int index, PVWebImg::PVCompositor& compositor) {
    if (!FModel.Frames()->empty()) return compositor.ComposeTo(*FModel.Frames(), index);
    if (index != 0 || !FModel.CurrentDib()->Dib()) return false;
    // As the viewer shows a lone picture: on a screen of its own.
    return compositor.ComposePicture(
        FModel.CurrentDib()->Dib(), FModel.ScreenWidth, FModel.ScreenHeight, FModel.DrawLeft,
        FModel.DrawTop, FModel.DisplayedTransparency ? FModel.DisplayedTransparentIndex : -1);
}
