#pragma once

class CRsCmd;
class StderrHost;

// kavro-cli identity: what the About window shows of the camera, one
// "Label: value" a line, the camera's texts escaped for a terminal as every
// camera text is. 0 when printed; 1, with nothing printed, when the camera
// does not tell its firmware version: silence is named as such, any other
// reply is shown as what came.
int PrintIdentity(CRsCmd& engine, const StderrHost& host, bool registerBase, int timeoutMs);
