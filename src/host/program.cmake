# The host program and its windows.
# orvane_hostui: the main window, the log-on dialog and the base-data selection, shared by the
# program and its tests.
add_library(orvane_hostui STATIC
  BaseSelectDialog.cpp BaseSelectDialog.h
  HostBaseData.cpp HostBaseData.h
  HostBaseSelect.cpp HostBaseSelect.h
  HostBillConfig.cpp HostBillConfig.h
  HostDesktop.cpp HostDesktop.h
  HostFunctionMenu.cpp HostFunctionMenu.h
  HostMainWindow.cpp HostMainWindow.h
  HostSchema.cpp HostSchema.h
  LogOnDialog.cpp LogOnDialog.h
)
target_include_directories(orvane_hostui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orvane_hostui PUBLIC orvane_hostsvc Qt6::Widgets)

add_executable(orvane main.cpp)
target_link_libraries(orvane PRIVATE orvane_hostui orvane_hostsvc Qt6::Widgets)
add_dependencies(orvane Orvane)
