// The one platform operation the report needs: moving a finished file over
// the final name, replacing a file of that name.
#pragma once

#include <string>

bool replaceFile(const std::string& from, const std::string& to);
