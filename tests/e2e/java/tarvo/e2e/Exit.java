package tarvo.e2e;

/** Ends the program with System.exit and the code its first argument gives. */
public final class Exit {
    private Exit() {}

    public static void main(String[] args) {
        Report.line("exit " + args[0]);
        System.exit(Integer.parseInt(args[0]));
    }
}
