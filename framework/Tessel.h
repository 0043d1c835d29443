// Tessel: the host-binding framework. Includes every part of it.
#pragma once

#include "framework/FarButtonsDialog.h"
#include "framework/FarConfig.h"
#include "framework/FarDialog.h"
#include "framework/FarDialogControls.h"
#include "framework/FarDialogEdits.h"
#include "framework/FarEntry.h"
#include "framework/FarErrors.h"
#include "framework/FarModule.h"
#include "framework/FarPlugin.h"
#include "far3/Plugin3.h"
