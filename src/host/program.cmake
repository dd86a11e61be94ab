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
  HostHelp.cpp HostHelp.h
  HostMainWindow.cpp HostMainWindow.h
  HostSchema.cpp HostSchema.h
  HostScreenshot.cpp HostScreenshot.h
  LogOnDialog.cpp LogOnDialog.h
  basedata/BaseDataStore.cpp basedata/BaseDataStore.h
  basedata/BaseDataWindow.cpp basedata/BaseDataWindow.h
  bill/BillLayout.cpp bill/BillLayout.h
  bill/BillListWindow.cpp bill/BillListWindow.h
  bill/BillStore.cpp bill/BillStore.h
  bill/BillWindow.cpp bill/BillWindow.h
  bill/HostBillService.cpp bill/HostBillService.h
)
target_include_directories(orvane_hostui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/basedata
                           ${CMAKE_CURRENT_SOURCE_DIR}/bill)
# The bill window recalculates lines with the formula engine of the bill layouts.
target_link_libraries(orvane_hostui PUBLIC orvane_hostsvc orvane_formulas Qt6::Widgets)

add_executable(orvane main.cpp)
target_link_libraries(orvane PRIVATE orvane_hostui orvane_hostsvc Qt6::Widgets)
add_dependencies(orvane Orvane)

# The help pages, one per window, beside the program (help/ under the system folder).
set(ORVANE_HELP_PAGES
  welcome.htm
  登录.htm
  成本计算.htm
  文件/数据备份与恢复.htm
  单据处理/进销存期末结账.htm
  单据处理/进销存期末反结账.htm
)
foreach(page IN LISTS ORVANE_HELP_PAGES)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/help/${page} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/help/${page} COPYONLY)
endforeach()
