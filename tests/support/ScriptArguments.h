#ifndef MORVALETH_TESTS_SCRIPTARGUMENTS_H
#define MORVALETH_TESTS_SCRIPTARGUMENTS_H

#include <string>
#include <vector>

/// A valid Lua value of the type letter (n number, s string, b boolean, t table); strings are the one given.
std::string ValidArgument(char type, const std::string& validString);

/// Argument lists an engine function of those argument and optional argument types must refuse: none (when it
/// takes some), one too many, each argument of a wrong type or outside the integers, each optional one of a
/// wrong type.
std::vector<std::string> WrongArgumentLists(const std::string& types, const std::string& optional,
	const std::string& validString);

/// The Lua values joined by commas.
std::string JoinArguments(const std::vector<std::string>& values);

#endif
