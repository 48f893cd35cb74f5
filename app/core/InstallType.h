#pragma once
// How Zelbra is installed: once for every user, or portable beside its executable.

enum TInstallType { itStandard = 0, itPortable = 1 };
