// The one application object.
#include "app/KivanoApp.h"

CKivanoApp theApp;
