#pragma once

// The message box behind ZobrazChybu: modal, information icon, caption "Information", one OK
// button. Returns when the user has closed it; a termination signal ends the program instead.

#include <string>

void ShowErrorBox(const std::string& text);
