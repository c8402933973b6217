class Prompter;
