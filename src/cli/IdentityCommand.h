#pragma once

#include <ostream>

class CRsCmd;

// kavro-cli identity: what the About window shows of the camera, one
// "Label: value" a line, the camera's texts escaped for a terminal as every
// camera text is. 0 when printed; 1, with nothing printed, when the camera
// does not tell its firmware version.
int PrintIdentity(CRsCmd& engine, bool registerBase, int timeoutMs, std::ostream& out, bool toTerminal);
