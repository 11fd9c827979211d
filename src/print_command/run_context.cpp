#include "print_command/run_context.h"

#include "print_command/printer_ports.h"

namespace pelmar::print_command {

std::unique_ptr<PrinterLibrary> makeLibrary(const RunContext& context) {
    if (context.libraryFactory)
        return context.libraryFactory(context.state.printerName);
    state::WorkingState& state = context.state;
    return createPrinterLibrary(
        state, state.printerName,
        {context.clock, context.events, [&state] { return state.cancelRequested; }},
        context.printSystem);
}

} // namespace pelmar::print_command
