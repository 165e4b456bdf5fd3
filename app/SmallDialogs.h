// The widgets of the small dialogs (image name, header coefficients, options, choice list,
// about), each showing its model; registered with the prompt, which runs them.
#pragma once

class CQtPrompt;

void RegisterSmallDialogs(CQtPrompt& prompt);
// The about box, modal.
void ShowAboutBox();
