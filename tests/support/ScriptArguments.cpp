#include "support/ScriptArguments.h"

namespace
{
// Values of other types than the letter, and numbers outside the integers.
std::vector<std::string> WrongArguments(char type)
{
	if (type == 'n')
		return {"'x'", "true", "{}", "nil", "1e10", "-1e10", "0/0", "1/0", "print"};
	if (type == 's')
		return {"true", "{}", "nil", "print"};
	if (type == 'b')
		return {"1", "'true'", "nil", "{}"};
	return {"1", "'t'", "nil", "true"};
}
}

std::string ValidArgument(char type, const std::string& validString)
{
	return type == 'n' ? "0" : type == 's' ? validString : type == 'b' ? "true" : "{}";
}

std::vector<std::string> WrongArgumentLists(const std::string& types, const std::string& optional,
	const std::string& validString)
{
	std::vector<std::string> valid;
	for (const char type : types)
		valid.push_back(ValidArgument(type, validString));
	std::vector<std::string> lists;
	if (!types.empty())
		lists.push_back("");
	std::vector<std::string> tooMany = valid;
	for (const char type : optional)
		tooMany.push_back(ValidArgument(type, validString));
	tooMany.push_back("0");
	lists.push_back(JoinArguments(tooMany));
	for (std::size_t i = 0; i < types.size(); ++i)
		for (const std::string& wrong : WrongArguments(types[i])) {
			std::vector<std::string> arguments = valid;
			arguments[i] = wrong;
			lists.push_back(JoinArguments(arguments));
		}
	for (const char type : optional)
		for (const std::string& wrong : WrongArguments(type))
			if (wrong != "nil")
				lists.push_back(JoinArguments(valid) + (valid.empty() ? "" : ", ") + wrong);
	return lists;
}

std::string JoinArguments(const std::vector<std::string>& values)
{
	std::string text;
	for (const std::string& value : values)
		text += (text.empty() ? "" : ", ") + value;
	return text;
}
