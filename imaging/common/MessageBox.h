#pragma once
// Shows the platform layer's messages (ShowMessage) in a modal message box
// with an OK button, parented to the active window. The program installs it
// at start; without it messages go to standard error.
void InstallMessageBoxHandler();
