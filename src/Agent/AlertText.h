#pragma once

#include <QString>

#include <string>

// The text of a key of the agent's text table, empty when there is none.
QString alertText(const std::string& key);
