#pragma once
// The version of this build of Tessaly, as every program prints it for --version.

const char* TessalyVersion();
