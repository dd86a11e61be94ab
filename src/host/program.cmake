# The host program.
add_executable(orvane main.cpp)
target_link_libraries(orvane PRIVATE orvane_hostsvc Qt6::Widgets)
add_dependencies(orvane Orvane)
