# The application test runs the built host application and its demo tool.
add_dependencies(test_${name} vantrel vantrel_make_demo)
