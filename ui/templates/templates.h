// The setup program's dialog templates, registered with the framework.
#pragma once

// True once the templates are registered (they are before main() runs).
bool UiTemplatesRegistered();
