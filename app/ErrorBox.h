#pragma once

// The message box behind ZobrazChybu: modal, information icon, caption "Information", one OK
// button. Returns when the user has closed it.

#include <string>

void ShowErrorBox(const std::string& text);
