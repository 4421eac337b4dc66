#pragma once
// Modal results of the program's dialogs, passed to QDialog::done(int) and
// answered by exec(). Only mrOk and mrYes accept; every other result,
// including a window closed with its close box (mrCancel), is a refusal.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;
