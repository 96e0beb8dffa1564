# The table window, its layout and the custom button, run offscreen.
trilane_test(shell_table_test
  SOURCES table_layout_test.cpp table_widget_test.cpp table_timeline_test.cpp
    table_teaching_test.cpp
  LIBS trilane_shell trilane_assets Qt6::Test)
if(TARGET shell_table_test)
  find_package(Qt6 REQUIRED COMPONENTS Test)
endif()
