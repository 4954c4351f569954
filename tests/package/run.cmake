# Installs the built project into a private prefix, builds the consumer
# project against it and runs the example. Called by CTest with BUILD_DIR,
# SOURCE_DIR, WORK_DIR, WIDGETS (whether the widgets library was built),
# DESIGNER_PLUGIN (the Designer plugin's path under the prefix, when built),
# WIDGETS_SHARED (whether the widgets library is a shared one) and the CONSUMER_FLAGS its compiler and linker need.
file(REMOVE_RECURSE ${WORK_DIR})
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed:\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
if(DESIGNER_PLUGIN AND NOT IS_ABSOLUTE "${DESIGNER_PLUGIN}")
  if(NOT EXISTS ${WORK_DIR}/prefix/${DESIGNER_PLUGIN})
    message(FATAL_ERROR "the Designer plugin is not installed as ${DESIGNER_PLUGIN}")
  endif()
  # Over a static library Designer loads it with no Brindle library around.
  find_program(READELF readelf REQUIRED)
  execute_process(COMMAND ${READELF} -d ${WORK_DIR}/prefix/${DESIGNER_PLUGIN} OUTPUT_VARIABLE dynamic)
  if(dynamic MATCHES "libbrindle" AND NOT WIDGETS_SHARED)
    message(FATAL_ERROR "the Designer plugin needs a Brindle library:\n${dynamic}")
  endif()
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package -B ${WORK_DIR}/build -G Ninja
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DBRINDLE_README=${SOURCE_DIR}/README.md -DBRINDLE_WIDGETS=${WIDGETS}
    "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CONSUMER_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
set(ENV{LD_LIBRARY_PATH} "${WORK_DIR}/prefix/lib:${WORK_DIR}/prefix/lib64:$ENV{LD_LIBRARY_PATH}")
run(${WORK_DIR}/build/app)
if(NOT out MATCHES "^SELECT .*FROM.*Orders.*WHERE.*Orders.CustID = 42")
  message(FATAL_ERROR "unexpected output of the example:\n${out}")
endif()
message(STATUS "${out}")
if(WIDGETS)
  set(ENV{QT_QPA_PLATFORM} offscreen)
  run(${WORK_DIR}/build/widgets_app)
  if(NOT out MATCHES "is not equal to")
    message(FATAL_ERROR "unexpected output of the widgets example:\n${out}")
  endif()
  run(${WORK_DIR}/build/form_app --print)
  if(NOT out MATCHES "WHERE.*United Kingdom.*\n[1-9][0-9]* rows")
    message(FATAL_ERROR "unexpected output of the host on a form:\n${out}")
  endif()
endif()
