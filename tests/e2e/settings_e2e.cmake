# The settings step seen from outside: the launcher as shipped, a variant of
# it that carries embedded settings, and a probe with the same embedded
# settings that writes down what the settings reader made of the files.
add_executable(tarvo_embedded WIN32 ${PROJECT_SOURCE_DIR}/src/core/main.cpp
               ${PROJECT_SOURCE_DIR}/src/resources/tarvo.rc embedded_settings_e2e.rc)
target_include_directories(tarvo_embedded PRIVATE ${PROJECT_SOURCE_DIR}/src/resources)
target_link_options(tarvo_embedded PRIVATE -municode)
target_link_libraries(tarvo_embedded PRIVATE tarvo_lib)

add_executable(settings_report_probe settings_report_probe.cpp
               ${PROJECT_SOURCE_DIR}/src/resources/tarvo.rc embedded_settings_e2e.rc)
target_include_directories(settings_report_probe PRIVATE ${PROJECT_SOURCE_DIR}/src/resources
                           ${PROJECT_SOURCE_DIR}/tests)
target_link_options(settings_report_probe PRIVATE -municode)
target_link_libraries(settings_report_probe PRIVATE tarvo_lib)

tarvo_add_windows_test(settings_e2e_tests settings_e2e_test.cpp)
add_dependencies(settings_e2e_tests tarvo tarvo_embedded settings_report_probe)
tarvo_uses_display(settings_e2e_tests)
