# Module resources (FindResource, LoadResource, ...) over the Qt resource system.
add_library(vantrel_platform_res STATIC Resource.cpp Resource.h)
target_link_libraries(vantrel_platform_res PUBLIC vantrel_platform_core Qt6::Core)
