# Module resources (FindResource, LoadResource, ...) over the Qt resource system.
add_library(vantrel_platform_res STATIC Resource.cpp Resource.h)
# Header-only use of the scalar types (platform/WinTypes.h); no link to the framework core.
target_link_libraries(vantrel_platform_res PUBLIC Qt6::Core)
