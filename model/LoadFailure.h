#ifndef MORVALETH_MODEL_LOADFAILURE_H
#define MORVALETH_MODEL_LOADFAILURE_H

#include <string>

/// Tells that a scenario could not be loaded: always an Error line, and the "Error" dialog when a GUI is running.
void ShowLoadFailure(const std::string& text);

#endif
