# The framework core: plain C++, no Qt.
add_library(vantrel_platform_core INTERFACE)
