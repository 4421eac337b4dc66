#pragma once
// Window border styles, shared by every component and form: a control's
// border is bsNone or bsSingle, a window's any of them.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
